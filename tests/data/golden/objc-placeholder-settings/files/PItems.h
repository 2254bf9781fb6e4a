//
//  PItems.h
//
//
//  Created by {import} on 2026/12/05.
//  Copyright © 2026年 {code} Ltd. All rights reserved.
//

#import <Foundation/Foundation.h>

NS_ASSUME_NONNULL_BEGIN

@interface PItems : NSObject

@property (nonatomic, assign) NSInteger x;

@end

NS_ASSUME_NONNULL_END
