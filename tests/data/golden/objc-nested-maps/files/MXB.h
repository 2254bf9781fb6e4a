//
//  MXB.h
//
//
//  Created by Lintrel on 2026/12/05.
//  Copyright © 2026年 Morvex 科技有限公司. All rights reserved.
//

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface MXB : NSObject

@property (nonatomic, assign) NSInteger y;

@end

NS_ASSUME_NONNULL_END
