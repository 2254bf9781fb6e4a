//
//  MXA.h
//
//
//  Created by Lintrel on 2026/12/05.
//  Copyright © 2026年 Morvex 科技有限公司. All rights reserved.
//

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface MXA : NSObject

@property (nonatomic, assign) NSInteger x;

@end

NS_ASSUME_NONNULL_END
